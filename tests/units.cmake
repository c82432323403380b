# SPDX-License-Identifier: GPL-3.0-or-later
# Units, factory presets, program change and MIDI mapping, through the real bundle.
if(TARGET HalvaneDuo)
    halvane_add_test(test_units SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/units_test.cpp
                     LIBS halvane_host)
    target_compile_definitions(test_units PRIVATE HALVANE_BUNDLE_PATH="${HALVANE_BUNDLE_DIR}")
    add_dependencies(test_units HalvaneDuo)
endif()
