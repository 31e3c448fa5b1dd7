# Every item caught once, dropped onto the paddle in turn; the harmless ones first, then
# the bomb (a life lost once the paddle has burst) and last the next level.
seed 3
tick 60
key RETURN
tick 60
key RETURN
tick 60
key RETURN
tick 60
key RETURN      # launch the ball
tick 10
item add 1 0x5A0000 0xF00000 0 0x1000     # guns
tick 30
key RETURN      # fire a pair of shots
tick 1
dump
hash
item add 2 0x5A0000 0xF00000 0 0x1000     # eight balls
tick 30
dump
item add 3 0x5A0000 0xF00000 0 0x1000     # longer
tick 30
item add 4 0x5A0000 0xF00000 0 0x1000     # extra life
tick 30
item add 5 0x5A0000 0xF00000 0 0x1000     # fast balls
tick 30
item add 6 0x5A0000 0xF00000 0 0x1000     # fire balls
tick 30
dump
hash
item add 9 0x5A0000 0xF00000 0 0x1000     # shorter
tick 30
item add 10 0x5A0000 0xF00000 0 0x1000    # slow balls
tick 30
item add 11 0x5A0000 0xF00000 0 0x1000    # double balls
tick 30
dump
item add 12 0x5A0000 0xF00000 0 0x1000    # sticky pads
tick 30
item add 13 0x5A0000 0xF00000 0 0x1000    # pierce balls
tick 30
item add 14 0x5A0000 0xF00000 0 0x1000    # weak bricks
tick 30
dump
hash
item add 7 0x5A0000 0xF00000 0 0x1000     # bomb
tick 60
dump
tick 400
dump            # the paddle has burst: a life less, one new resting ball
hash
item add 8 0x5A0000 0xF00000 0 0x1000     # next level
tick 30
dump
tick 60
dump            # the level picture of level 2
hash
