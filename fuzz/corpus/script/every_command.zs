seed 4294967295
tick
tick 0
key RETURN
keyup 0x41
key APP4
pen down 0 65535
pen move 12 13
pen up 1 1
activate
deactivate
focus on
focus off
dump
hash
shot out.png
autopilot on
autopilot off
cell 0 0 60
hide 1 1 3
ball add 0x10000 -0x10000 1 2 3 0
ball rest 5
ball clear
paddle x -2147483648
paddle size 2
paddle attach 1
item add 1 2 3 4 5
lives 2147483647
score -1
level 3  # a comment
