# The sample disc, made by the host build in autorun/disc: autorun.sdf (the
# menu definition compiled to Ice, its texts and pictures), readme.txt, the
# autorun.inf that starts the menu when the disc is inserted, and
# the menu's icons for the Windows build's resources.
set(AUTORUN_SAMPLE_SOURCE ${PROJECT_SOURCE_DIR}/samples/disc)
set(AUTORUN_DISC_DIR ${CMAKE_CURRENT_BINARY_DIR}/disc)
set(AUTORUN_DISC_STAGE ${CMAKE_CURRENT_BINARY_DIR}/disc_stage)
set(AUTORUN_FONT_DIR /usr/share/fonts/truetype/liberation)
file(GLOB autorun_menu_sources CONFIGURE_DEPENDS ${AUTORUN_SAMPLE_SOURCE}/menu/*)

set(autorun_disc_outputs
  ${AUTORUN_DISC_DIR}/autorun.sdf
  ${AUTORUN_DISC_DIR}/readme.txt
  ${AUTORUN_DISC_DIR}/autorun.inf
  ${AUTORUN_DISC_DIR}/autorun_large.ico
  ${AUTORUN_DISC_DIR}/autorun_small.ico)
add_custom_command(
  OUTPUT ${autorun_disc_outputs}
  COMMAND ${CMAKE_COMMAND}
    -DSOURCE=${AUTORUN_SAMPLE_SOURCE} -DSTAGE=${AUTORUN_DISC_STAGE} -DOUT=${AUTORUN_DISC_DIR}
    -DFONTS=${AUTORUN_FONT_DIR} -DDISCGEN=$<TARGET_FILE:discgen> -DICETOOL=$<TARGET_FILE:icetool>
    -DSDFTOOL=$<TARGET_FILE:sdftool>
    -P ${CMAKE_CURRENT_SOURCE_DIR}/make_disc.cmake
  DEPENDS discgen icetool sdftool ${autorun_menu_sources} ${AUTORUN_SAMPLE_SOURCE}/readme.txt
    ${AUTORUN_SAMPLE_SOURCE}/autorun.inf
    ${CMAKE_CURRENT_SOURCE_DIR}/make_disc.cmake
  COMMENT "Drawing and packing the sample disc")
add_custom_target(autorun_sample_disc ALL DEPENDS ${autorun_disc_outputs})
