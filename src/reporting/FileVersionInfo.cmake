# File version information: the version block reader, its two containers, the language names
# (ICU's locale data on Linux, the system's on Windows), and the block our build embeds in the
# updater's own executable.
target_sources(tamsel_reporting PRIVATE
  CFileVersionInfo.cpp
  ElfVersionBlock.cpp
  PeVersionBlock.cpp
  VersionBlockWriter.cpp
  VersionResource.cpp)

if(WIN32)
  target_sources(tamsel_reporting PRIVATE windows/LanguageName.cpp)

  # tamsel_embed_version(TARGET): the program's version resource, as every Windows program has.
  function(tamsel_embed_version target)
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
    set(TAMSEL_TARGET_NAME ${target})
    configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/windows/Version.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
  endfunction()
  return()
endif()

find_package(ICU REQUIRED COMPONENTS uc)
target_sources(tamsel_reporting PRIVATE LanguageName.cpp)
target_link_libraries(tamsel_reporting PRIVATE ICU::uc)

add_executable(tamsel-version-block VersionSectionTool.cpp)
target_link_libraries(tamsel-version-block PRIVATE tamsel_reporting)

# tamsel_embed_version(TARGET): puts the program's version block in an ELF section of TARGET.
function(tamsel_embed_version target)
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${target}_version_block.cpp)
  add_custom_command(OUTPUT ${source}
    COMMAND tamsel-version-block ${source} ${PROJECT_VERSION_MAJOR} ${PROJECT_VERSION_MINOR}
            ${PROJECT_VERSION_PATCH}
    DEPENDS tamsel-version-block
    COMMENT "Version block of ${target}")
  target_sources(${target} PRIVATE ${source})
endfunction()
