tick -1
