# zebrolite_folder_library(NAME DIR [DEPS ...]): one static library from the .cpp files of a folder.
function(zebrolite_folder_library name dir)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE zebrolite_warnings)
endfunction()

# zebrolite_test(NAME DIR DEPS ...): one GoogleTest executable from the .cpp files of a test folder.
function(zebrolite_test name dir)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} zebrolite_test_support GTest::gtest_main GTest::gmock zebrolite_warnings)
  gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "ZEBROLITE_SOURCE_DIR=${PROJECT_SOURCE_DIR};ZEBROLITE_GAME_DIR=${ZEBROLITE_GAME_DIR};ZEBROLITE_TESTDATA_DIR=${ZEBROLITE_TESTDATA_DIR}")
endfunction()
