# A level cleared: level 1 is stripped down to one stone brick, which a ball breaks; the
# level picture of level 2 follows, and Enter starts it with its full layout.
seed 11
tick 60
key RETURN      # about -> menu
tick 60
key RETURN      # new game -> level picture
tick 60
key RETURN      # start level 1
tick 60
hash
# Empty every cell but one stone brick in column 5 of row 7, then send a ball up into it.
cell 0 0 0
cell 1 0 0
cell 2 0 0
cell 3 0 0
cell 4 0 0
cell 5 0 0
cell 6 0 0
cell 7 0 0
cell 8 0 0
cell 9 0 0
cell 10 0 0
cell 11 0 0
cell 0 1 0
cell 1 1 0
cell 2 1 0
cell 3 1 0
cell 4 1 0
cell 5 1 0
cell 6 1 0
cell 7 1 0
cell 8 1 0
cell 9 1 0
cell 10 1 0
cell 11 1 0
cell 0 2 0
cell 1 2 0
cell 2 2 0
cell 3 2 0
cell 4 2 0
cell 5 2 0
cell 6 2 0
cell 7 2 0
cell 8 2 0
cell 9 2 0
cell 10 2 0
cell 11 2 0
cell 0 3 0
cell 1 3 0
cell 2 3 0
cell 3 3 0
cell 4 3 0
cell 5 3 0
cell 6 3 0
cell 7 3 0
cell 8 3 0
cell 9 3 0
cell 10 3 0
cell 11 3 0
cell 0 4 0
cell 1 4 0
cell 2 4 0
cell 3 4 0
cell 4 4 0
cell 5 4 0
cell 6 4 0
cell 7 4 0
cell 8 4 0
cell 9 4 0
cell 10 4 0
cell 11 4 0
cell 0 5 0
cell 1 5 0
cell 2 5 0
cell 3 5 0
cell 4 5 0
cell 5 5 0
cell 6 5 0
cell 7 5 0
cell 8 5 0
cell 9 5 0
cell 10 5 0
cell 11 5 0
cell 0 6 0
cell 1 6 0
cell 2 6 0
cell 3 6 0
cell 4 6 0
cell 5 6 0
cell 6 6 0
cell 7 6 0
cell 8 6 0
cell 9 6 0
cell 10 6 0
cell 11 6 0
cell 0 7 0
cell 1 7 0
cell 2 7 0
cell 3 7 0
cell 4 7 0
cell 5 7 14     # the last brick: stone, picture row 4
cell 6 7 0
cell 7 7 0
cell 8 7 0
cell 9 7 0
cell 10 7 0
cell 11 7 0
cell 0 8 0
cell 1 8 0
cell 2 8 0
cell 3 8 0
cell 4 8 0
cell 5 8 0
cell 6 8 0
cell 7 8 0
cell 8 8 0
cell 9 8 0
cell 10 8 0
cell 11 8 0
cell 0 9 0
cell 1 9 0
cell 2 9 0
cell 3 9 0
cell 4 9 0
cell 5 9 0
cell 6 9 0
cell 7 9 0
cell 8 9 0
cell 9 9 0
cell 10 9 0
cell 11 9 0
hide 5 7 4      # it hides an extra life
ball clear
ball add 0x6A0000 0xC80000 0 -0x4000 0x4000 0
tick 40
dump
hash
tick 60
dump            # the level picture of level 2
hash
key RETURN
tick 60
dump            # level 2 in play, its full layout
hash
