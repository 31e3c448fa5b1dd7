# A whole game won by the driver's built-in player: three levels, then the game-won picture
# and, with a score above the lowest of the table, the name entry.
seed 2
tick 60
key RETURN
tick 60
key RETURN
tick 60
autopilot on
tick 4000
hash
tick 4000
hash
tick 4000
hash
tick 4000
hash
tick 4000
hash
tick 4000
dump            # the game has been won
hash
autopilot off
key RETURN
tick 60
dump            # the name entry
