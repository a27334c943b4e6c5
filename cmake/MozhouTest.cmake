# mozhou_add_test(<name> SOURCES a.cpp ... [LIBS lib ...])
# One Qt Test executable per test class; runs headless on the offscreen platform,
# never touches a session bus, and knows where the source tree's test data lies.
function(mozhou_add_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test mozhou_core ${T_LIBS})
    target_compile_definitions(${name} PRIVATE
        MOZHOU_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        MOZHOU_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/tests/data")
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        TIMEOUT 300
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;DBUS_SESSION_BUS_ADDRESS=disabled:;LC_ALL=C.UTF-8")
endfunction()
