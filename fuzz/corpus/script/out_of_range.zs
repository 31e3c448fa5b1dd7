paddle size 3
