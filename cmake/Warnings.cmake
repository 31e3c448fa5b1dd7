# Warning flags for the project's own targets (not for third-party code).
add_library(zebrolite_warnings INTERFACE)
target_compile_options(zebrolite_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
if(ZEBROLITE_WERROR)
  target_compile_options(zebrolite_warnings INTERFACE -Werror)
endif()
