# zebrolite_folder_library(NAME DIR [DEPS ...]): one static library from the .cpp files of a folder.
function(zebrolite_folder_library name dir)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE zebrolite_warnings)
endfunction()

# zebrolite_test(NAME DIR DEPS ... [FIXTURES ...] [ENVIRONMENT VAR=VALUE ...]): one GoogleTest
# executable from the .cpp files of a test folder; its tests require the CTest fixtures named.
function(zebrolite_test name dir)
  cmake_parse_arguments(ARG "" "" "DEPS;FIXTURES;ENVIRONMENT" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} zebrolite_test_support GTest::gtest_main GTest::gmock zebrolite_warnings)
  # The parameters' names are the tests' suffixes; their printed values would put addresses,
  # different at each build, into the test names.
  gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} DISCOVERY_TIMEOUT 60 TEST_LIST ${name}_TESTS
    NO_PRETTY_VALUES)
  # The environment is set by a script of our own that CTest runs after the discovered tests
  # are defined: handed to gtest_discover_tests as PROPERTIES, the list of variables is split
  # on its way through, and the tests would get only the first one.
  set(environment "ZEBROLITE_SOURCE_DIR=${PROJECT_SOURCE_DIR};ZEBROLITE_GAME_DIR=${ZEBROLITE_GAME_DIR}")
  string(APPEND environment ";ZEBROLITE_TESTDATA_DIR=${ZEBROLITE_TESTDATA_DIR}")
  foreach(variable IN LISTS ARG_ENVIRONMENT)
    string(APPEND environment ";${variable}")
  endforeach()
  set(fixtures "")
  if(ARG_FIXTURES)
    list(JOIN ARG_FIXTURES ";" fixture_list)
    set(fixtures " FIXTURES_REQUIRED [==[${fixture_list}]==]")
  endif()
  set(environment_script ${CMAKE_CURRENT_BINARY_DIR}/${name}_environment.cmake)
  file(WRITE ${environment_script} "if(${name}_TESTS)\n  set_tests_properties(\${${name}_TESTS} PROPERTIES ENVIRONMENT "
    "[==[${environment}]==]${fixtures})\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${environment_script})
endfunction()
