tick 1 2
