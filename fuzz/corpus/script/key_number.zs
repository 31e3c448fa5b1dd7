key 255
key 256
