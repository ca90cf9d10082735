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
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${tool} --objdump ${objdump} $<TARGET_FILE:${target}>
    COMMENT "Appending the line-number table to ${target}"
    VERBATIM)
endfunction()
