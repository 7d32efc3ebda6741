# Helpers shared by the subsystem folders.
#
# lorimane_library(NAME DEPS ...): one library target per subsystem folder, built from every .cpp in
# the folder and its sub-folders that are not subsystems of their own (EXCLUDE names them).
function(lorimane_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE;SYSTEM_DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "^${CMAKE_CURRENT_SOURCE_DIR}/${ex}/")
  endforeach()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} ${ARG_SYSTEM_DEPS})
endfunction()

# lorimane_test(NAME LABEL [SERIAL] LIBS ... [EXCLUDE dirs]): one test binary per test folder, every
# .cpp in it, with the allocation guard linked in and each test registered with ctest under the
# folder's label. EXCLUDE
# names sub-folders that are test folders of their own.
function(lorimane_test name label)
  cmake_parse_arguments(ARG "SERIAL" "" "LIBS;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "^${CMAKE_CURRENT_SOURCE_DIR}/${ex}/")
  endforeach()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} lorimane_test_support GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  # SERIAL: tests that need the machine to themselves (real-time hosting) never run beside others.
  if(ARG_SERIAL)
    gtest_discover_tests(${name} PROPERTIES LABELS ${label} RUN_SERIAL TRUE DISCOVERY_TIMEOUT 60)
  else()
    gtest_discover_tests(${name} PROPERTIES LABELS ${label} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# Embedded resources.
#
# lorimane_embed_resources(FILES ...): compiles the files into the library lorimane_resources, where
# resourceExists/openResource find each by its file name without extension, case-insensitively. Files
# may be sources or outputs of custom commands in the calling folder. The packer (tools/respack) turns
# each file into a generated table at build time; one index lists them all. Callers of the lookup link
# lorimane_resources; the lookup references the index directly, so nothing relies on static
# registration that the linker could drop from a static library.
set_property(GLOBAL PROPERTY LORIMANE_RESOURCE_COUNT 0)
set_property(GLOBAL PROPERTY LORIMANE_RESOURCE_SOURCES "")
set_property(GLOBAL PROPERTY LORIMANE_RESOURCE_PAIRS "")
set_property(GLOBAL PROPERTY LORIMANE_RESOURCE_TARGETS "")
set_property(GLOBAL PROPERTY LORIMANE_RESOURCE_KEYS "")

function(lorimane_embed_resources)
  cmake_parse_arguments(ARG "" "" "FILES" ${ARGN})
  get_property(count GLOBAL PROPERTY LORIMANE_RESOURCE_COUNT)
  get_property(targets GLOBAL PROPERTY LORIMANE_RESOURCE_TARGETS)
  list(LENGTH targets call)
  set(outputs "")
  foreach(file IN LISTS ARG_FILES)
    get_filename_component(path ${file} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    get_filename_component(name ${path} NAME_WLE)
    # Names are found without regard to case, so two files may not differ only by case.
    string(TOUPPER ${name} key)
    get_property(keys GLOBAL PROPERTY LORIMANE_RESOURCE_KEYS)
    if(key IN_LIST keys)
      message(FATAL_ERROR "Two embedded resources are named ${name} (${path})")
    endif()
    set_property(GLOBAL APPEND PROPERTY LORIMANE_RESOURCE_KEYS ${key})
    set(symbol lorimane_resource_${count})
    set(output ${CMAKE_CURRENT_BINARY_DIR}/lorimane_resources/${symbol}.cpp)
    add_custom_command(OUTPUT ${output}
      COMMAND lorimane-respack data ${path} ${output} ${symbol}
      DEPENDS lorimane-respack ${path}
      COMMENT "Packing resource ${name}" VERBATIM)
    list(APPEND outputs ${output})
    set_property(GLOBAL APPEND PROPERTY LORIMANE_RESOURCE_SOURCES ${output})
    set_property(GLOBAL APPEND PROPERTY LORIMANE_RESOURCE_PAIRS ${name} ${symbol})
    math(EXPR count "${count} + 1")
  endforeach()
  set_property(GLOBAL PROPERTY LORIMANE_RESOURCE_COUNT ${count})
  add_custom_target(lorimane_resources_pack_${call} DEPENDS ${outputs})
  set_property(GLOBAL APPEND PROPERTY LORIMANE_RESOURCE_TARGETS lorimane_resources_pack_${call})
endfunction()

# Runs once every folder has been added: builds lorimane_resources from everything embedded.
function(lorimane_finish_resources)
  get_property(sources GLOBAL PROPERTY LORIMANE_RESOURCE_SOURCES)
  get_property(pairs GLOBAL PROPERTY LORIMANE_RESOURCE_PAIRS)
  get_property(targets GLOBAL PROPERTY LORIMANE_RESOURCE_TARGETS)
  set(index ${CMAKE_BINARY_DIR}/lorimane_resources/ResourceIndex.cpp)
  add_custom_command(OUTPUT ${index}
    COMMAND lorimane-respack index ${index} ${pairs}
    DEPENDS lorimane-respack
    COMMENT "Indexing embedded resources" VERBATIM)
  add_library(lorimane_resources STATIC ${index} ${sources})
  set_source_files_properties(${sources} PROPERTIES GENERATED TRUE)
  target_include_directories(lorimane_resources PUBLIC ${PROJECT_SOURCE_DIR})
  if(targets)
    add_dependencies(lorimane_resources ${targets})
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL lorimane_finish_resources)
