key ÿ
