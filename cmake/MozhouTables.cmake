# Lookup tables that the program carries as constant data: the two-byte sequences of the GBK
# decoder and the lower case of every BMP character. mozhou-gentables computes them with this
# build's Qt and writes them into the build tree, where platform/gbkdecoder.cpp and
# platform/lowercase.cpp include them. They are made again when the generator or the Qt library
# changes.
add_executable(mozhou-gentables tools/gentables/gentables.cpp)
target_link_libraries(mozhou-gentables PRIVATE Qt6::Core)
set_target_properties(mozhou-gentables PROPERTIES AUTOMOC OFF AUTORCC OFF)

set(MOZHOU_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
set(MOZHOU_TABLES ${MOZHOU_GENERATED_DIR}/gbkpairs.inc ${MOZHOU_GENERATED_DIR}/lowercase.inc)
add_custom_command(
    OUTPUT ${MOZHOU_TABLES}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${MOZHOU_GENERATED_DIR}
    COMMAND mozhou-gentables ${MOZHOU_TABLES}
    DEPENDS mozhou-gentables $<TARGET_FILE:Qt6::Core>
    COMMENT "Generating the GBK and lower-case tables"
    VERBATIM)
target_sources(mozhou_core PRIVATE ${MOZHOU_TABLES})
target_include_directories(mozhou_core PRIVATE ${MOZHOU_GENERATED_DIR})
