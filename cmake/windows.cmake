# The Windows executable: GUI subsystem, resources, a self-contained image.

# Windows XP is the oldest system the launcher serves: declare it so the
# headers offer nothing newer without a run-time lookup.
target_compile_definitions(kobax_options INTERFACE
  _WIN32_WINNT=0x0501 WINVER=0x0501 UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)

target_link_options(kobax_options INTERFACE
  # No libstdc++, libgcc or winpthread DLL beside the executable.
  -static -static-libgcc -static-libstdc++
  # ASLR and DEP; no time stamp, so the same source gives the same bytes.
  -Wl,--dynamicbase -Wl,--nxcompat -Wl,--no-insert-timestamp
  # Symbols are not shipped.
  -s)

enable_language(RC)
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(ICOTOOL icotool REQUIRED)
set(_icon ${CMAKE_BINARY_DIR}/resources/kobax-launcher.ico)
add_custom_command(
  OUTPUT ${_icon}
  COMMAND ${CMAKE_SOURCE_DIR}/resources/make-icon.sh
          ${CMAKE_SOURCE_DIR}/resources/kobax-launcher.svg ${_icon}
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/make-icon.sh
          ${CMAKE_SOURCE_DIR}/resources/kobax-launcher.svg
  COMMENT "Rendering the launcher icon")
add_custom_target(kobax_icon DEPENDS ${_icon})

set_target_properties(kobax-launcher PROPERTIES WIN32_EXECUTABLE ON SUFFIX .exe)
target_sources(kobax-launcher PRIVATE resources/kobax-launcher.rc)
add_dependencies(kobax-launcher kobax_icon)
# windres finds the icon and the manifest by these folders.
set_property(SOURCE resources/kobax-launcher.rc APPEND PROPERTY OBJECT_DEPENDS
  ${_icon} ${CMAKE_SOURCE_DIR}/resources/kobax-launcher.manifest)
target_include_directories(kobax-launcher PRIVATE
  ${CMAKE_BINARY_DIR}/resources ${CMAKE_SOURCE_DIR}/resources)

# The size users download, printed with every build.
add_custom_command(TARGET kobax-launcher POST_BUILD
  COMMAND stat -c "%n: %s bytes" $<TARGET_FILE_NAME:kobax-launcher>
  WORKING_DIRECTORY $<TARGET_FILE_DIR:kobax-launcher>
  VERBATIM)
