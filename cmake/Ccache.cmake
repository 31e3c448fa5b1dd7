# Reuse object files across build folders and worktrees when ccache is present.
find_program(ZEBROLITE_CCACHE ccache)
if(ZEBROLITE_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${ZEBROLITE_CCACHE})
endif()
