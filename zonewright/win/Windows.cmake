# Windows-only part of the wizard: the program itself.

# mingw-w64 ships no Direct3D 8 import library for every architecture: make
# one from the export list when it is missing.
if(EXISTS ${CMAKE_FIND_ROOT_PATH}/lib/libd3d8.a)
  set(ZW_D3D8_LIB d3d8)
else()
  find_program(ZW_DLLTOOL ${KC_MINGW_TRIPLE}-dlltool REQUIRED)
  set(ZW_D3D8_IMPORT ${CMAKE_CURRENT_BINARY_DIR}/libzw_d3d8.a)
  add_custom_command(
    OUTPUT ${ZW_D3D8_IMPORT}
    COMMAND ${ZW_DLLTOOL} -d ${CMAKE_CURRENT_SOURCE_DIR}/win/d3d8.def -l ${ZW_D3D8_IMPORT}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/win/d3d8.def
    COMMENT "Import library for d3d8.dll")
  add_custom_target(zw_d3d8_import DEPENDS ${ZW_D3D8_IMPORT})
  set(ZW_D3D8_LIB ${ZW_D3D8_IMPORT})
endif()

add_executable(zonewright WIN32
  win/zw_main.cpp
  win/zw_input_win.cpp
  win/zw_render_win.cpp
  win/zw_d3dx.cpp
  win/zw_editor_win.cpp
)
target_include_directories(zonewright PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/win)
target_link_libraries(zonewright PRIVATE zw_core ${ZW_D3D8_LIB} dinput dxguid dxerr8 winmm gdi32 user32 comdlg32)
include(${PROJECT_SOURCE_DIR}/cmake/Manifest.cmake)
kc_add_manifest(zonewright "Ironfield II multiplayer map wizard")
if(TARGET zw_d3d8_import)
  add_dependencies(zonewright zw_d3d8_import)
endif()

# The resource image comes from the host build, next to the program.
set(ZW_ZRF_SOURCE ${KC_HOST_BUILD_DIR}/zonewright.zrf)
if(KC_HOST_BUILD_DIR AND EXISTS ${ZW_ZRF_SOURCE})
  add_custom_command(
    OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/zonewright.zrf
    COMMAND ${CMAKE_COMMAND} -E copy ${ZW_ZRF_SOURCE} ${CMAKE_CURRENT_BINARY_DIR}/zonewright.zrf
    DEPENDS ${ZW_ZRF_SOURCE}
    COMMENT "Copying zonewright.zrf next to zonewright.exe")
  add_custom_target(zonewright_zrf_copy ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/zonewright.zrf)
  add_dependencies(zonewright zonewright_zrf_copy)
else()
  message(WARNING "zonewright.zrf not found in the host build (KC_HOST_BUILD_DIR='${KC_HOST_BUILD_DIR}'): run the host build first")
endif()

# The sample map of the host build, next to the program as custom_maps/v.
set(ZW_SAMPLE_MAP_SOURCE ${KC_HOST_BUILD_DIR}/custom_maps/v)
if(KC_HOST_BUILD_DIR AND EXISTS ${ZW_SAMPLE_MAP_SOURCE}/vInstances.juice)
  add_custom_command(
    OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/custom_maps/v/vInstances.juice
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${ZW_SAMPLE_MAP_SOURCE} ${CMAKE_CURRENT_BINARY_DIR}/custom_maps/v
    DEPENDS ${ZW_SAMPLE_MAP_SOURCE}/vInstances.juice ${ZW_SAMPLE_MAP_SOURCE}/vOverviewmap.tga
    COMMENT "Copying the sample map next to zonewright.exe")
  add_custom_target(zonewright_sample_map_copy ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/custom_maps/v/vInstances.juice)
else()
  message(WARNING "the sample map is not in the host build (KC_HOST_BUILD_DIR='${KC_HOST_BUILD_DIR}'): run the host build first")
endif()

# End-to-end tests under Wine, one at a time (they share the display).
list(GET CMAKE_CROSSCOMPILING_EMULATOR 1 ZW_WINE_ARCH)
foreach(test exit screen wizard clicks missing-resource)
  add_test(NAME zonewright_gui_${test}
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/gui/zonewright_gui.sh ${test} ${ZW_WINE_ARCH}
                   $<TARGET_FILE:zonewright>)
  set_tests_properties(zonewright_gui_${test} PROPERTIES LABELS gui TIMEOUT 300 RUN_SERIAL TRUE)
endforeach()

# Import, zone placement and export, driven with xdotool.
foreach(test import export export-no read-only)
  add_test(NAME zonewright_gui_mission_${test}
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/gui/zonewright_mission_gui.sh ${test} ${ZW_WINE_ARCH}
                   $<TARGET_FILE:zonewright>)
  set_tests_properties(zonewright_gui_mission_${test} PROPERTIES LABELS gui TIMEOUT 300 RUN_SERIAL TRUE)
endforeach()

# Correct, undo and resume a mission, driven with xdotool.
add_test(NAME zonewright_gui_resume
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/gui/zonewright_resume_gui.sh resume ${ZW_WINE_ARCH}
                 $<TARGET_FILE:zonewright>)
set_tests_properties(zonewright_gui_resume PROPERTIES LABELS gui TIMEOUT 400 RUN_SERIAL TRUE)

# Mirrored placement and the balance warning, driven with xdotool.
add_test(NAME zonewright_gui_fair
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/gui/zonewright_fair_gui.sh fair ${ZW_WINE_ARCH}
                 $<TARGET_FILE:zonewright>)
set_tests_properties(zonewright_gui_fair PROPERTIES LABELS gui TIMEOUT 300 RUN_SERIAL TRUE)
