# kc_append_line_numbers(TARGET)
# After each link of a Windows executable, the host tool linetable reads the
# executable's line information and appends the compressed line-number table
# that the crash handler reads. The table holds 32-bit addresses: the image is
# kept at its linked base, and 64-bit test builds link below 4 GiB.
function(kc_append_line_numbers target)
  if(NOT WIN32)
    return()
  endif()
  set(tool ${KC_HOST_BUILD_DIR}/tools/linetable/linetable)
  if(NOT KC_HOST_BUILD_DIR OR NOT EXISTS ${tool})
    message(WARNING "linetable not found in the host build (KC_HOST_BUILD_DIR='${KC_HOST_BUILD_DIR}'): "
                    "${target} gets no line-number table; run the host build first")
    return()
  endif()
  set(objdump ${CMAKE_OBJDUMP})
  if(NOT objdump)
    set(objdump objdump)
  endif()
  target_link_options(${target} PRIVATE -Wl,--disable-dynamicbase)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    target_link_options(${target} PRIVATE -Wl,--image-base,0x10000000)
  endif()
  # A custom target of its own, so that the function also serves targets made in
  # other directories; it runs after each link of the executable.
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}.linetable.stamp)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${tool} --objdump ${objdump} $<TARGET_FILE:${target}>
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${target} $<TARGET_FILE:${target}>
    COMMENT "Appending the line-number table to ${target}"
    VERBATIM)
  add_custom_target(${target}_line_numbers ALL DEPENDS ${stamp})
endfunction()
