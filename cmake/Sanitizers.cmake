# -DZEBROLITE_SANITIZE=ON: every target, tools and tests included, runs under ASan and UBSan.
if(ZEBROLITE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
