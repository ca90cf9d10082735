# kc_append_line_numbers(TARGET)
# The host tool linetable appends the crash handler's line-number table to a
# Windows executable as part of the executable's own link step, so that every
# way of building the target gives a program with its table. The table holds
# 32-bit addresses: the image is kept at its linked base, and 64-bit test builds
# link below 4 GiB. A Windows build without the host tool is refused.
function(kc_append_line_numbers target)
  if(NOT WIN32)
    return()
  endif()
  set(tool ${KC_HOST_BUILD_DIR}/tools/linetable/linetable)
  if(NOT KC_HOST_BUILD_DIR OR NOT EXISTS ${tool})
    message(FATAL_ERROR "linetable not found in the host build (KC_HOST_BUILD_DIR='${KC_HOST_BUILD_DIR}'): "
                        "${target} would get no line-number table; run the host build first")
  endif()
  set(objdump ${CMAKE_OBJDUMP})
  if(NOT objdump)
    set(objdump objdump)
  endif()
  target_link_options(${target} PRIVATE -Wl,--disable-dynamicbase)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    target_link_options(${target} PRIVATE -Wl,--image-base,0x10000000)
  endif()
  # A new tool links the program anew.
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${tool})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${tool} --objdump ${objdump} --source-root ${PROJECT_SOURCE_DIR} $<TARGET_FILE:${target}>
    COMMENT "Appending the line-number table to ${target}"
    VERBATIM)
  # The table read back: code addresses only, every name with its folder.
  add_test(NAME ${target}_line_table COMMAND ${tool} --check $<TARGET_FILE:${target}>)
  set_tests_properties(${target}_line_table PROPERTIES LABELS unit)
endfunction()
