# kc_add_manifest(TARGET DESCRIPTION): links the application manifest
# (cmake/app.manifest.in: asInvoker, the supported systems from Vista on,
# DPI-unaware) into the program TARGET as resource 1 of type 24.
function(kc_add_manifest target description)
  enable_language(RC)
  set(KC_MANIFEST_NAME ${target})
  set(KC_MANIFEST_DESCRIPTION ${description})
  set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_manifest.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/app.manifest.in ${manifest} @ONLY)
  file(WRITE ${rc} "// The application manifest.\n1 24 \"${manifest}\"\n")
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${manifest})
  target_sources(${target} PRIVATE ${rc})
endfunction()
