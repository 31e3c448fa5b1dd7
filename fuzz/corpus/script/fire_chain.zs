# A fire chain: a row of fire bricks, one explosion apart, set off by a normal ball; the
# last explosion blasts the stones and the stable brick around it.
seed 5
tick 60
key RETURN
tick 60
key RETURN
tick 60
key RETURN
tick 60
cell 0 11 60
cell 1 11 61
cell 2 11 62
cell 3 11 63
cell 4 11 64
cell 5 11 10
cell 5 10 50
cell 5 12 12
cell 6 11 13
ball clear
paddle x 0
ball add 0x60000 0x960000 0 -0x4000 0x4000 0
tick 20
dump            # the first fire brick burns; the ball bounced down
hash
tick 64
hash
tick 64
hash
tick 64
hash
tick 64
dump            # the chain has reached the stones at its end
hash
tick 100
dump
hash
