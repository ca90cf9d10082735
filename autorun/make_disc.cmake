# cmake -DSOURCE= -DSTAGE= -DOUT= -DFONTS= -DDISCGEN= -DICETOOL= -DSDFTOOL= -P make_disc.cmake
# Draws the pictures, compiles the menu definition and packs everything but
# the programs and the readme into OUT/autorun.sdf.
function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err WORKING_DIRECTORY ${STAGE})
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed (${rc}):\n${out}${err}")
  endif()
endfunction()

file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE}/pictures ${OUT})
file(GLOB menu_sources ${SOURCE}/menu/*)
file(COPY ${menu_sources} DESTINATION ${STAGE})

run("drawing the pictures" ${DISCGEN} ${STAGE}/pictures ${OUT} ${FONTS})
# The converter writes autorun.ice and autorun.loc and puts the texts of
# autorun.lang into autorun.juice; left beside it, the companion file would
# turn texts that start with a digit into indices again.
run("compiling autorun.juice" ${ICETOOL} compile autorun.ice)
# The texts as they were before the re-save (moved aside by it) stay out of the
# archive too.
file(GLOB kept_copies ${STAGE}/autorun.juice.orig* ${STAGE}/autorun.lang.orig*)
file(REMOVE ${STAGE}/autorun.lang ${kept_copies})

file(REMOVE ${OUT}/autorun.sdf)
run("packing autorun.sdf" ${SDFTOOL} pack ${OUT}/autorun.sdf ${STAGE})
file(COPY ${SOURCE}/readme.txt ${SOURCE}/autorun.inf DESTINATION ${OUT})
