# The shared pieces of the tests, fuzz targets and benchmarks (tests/support)
# are included as "testsupport/<name>.h", so no test include reads like a
# source header. The build tree holds a link of that name to the folder; the
# interface library tm_testsupport puts it on the include path and names the
# test data folder (TM_TEST_DATA_DIR).
get_filename_component(tm_testsupport_root ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
set(tm_testsupport_include ${PROJECT_BINARY_DIR}/testsupport-include)
file(MAKE_DIRECTORY ${tm_testsupport_include})
file(CREATE_LINK ${tm_testsupport_root}/tests/support ${tm_testsupport_include}/testsupport SYMBOLIC)
add_library(tm_testsupport INTERFACE)
target_include_directories(tm_testsupport INTERFACE ${tm_testsupport_include})
target_compile_definitions(tm_testsupport INTERFACE TM_TEST_DATA_DIR="${tm_testsupport_root}/tests/data")
