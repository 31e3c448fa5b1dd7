jump 3
