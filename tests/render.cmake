# SPDX-License-Identifier: GPL-3.0-or-later
# halvane-render, run as a user runs it, on small generated files.
if(TARGET halvane-render AND TARGET HalvaneDuo)
    pkg_check_modules(RENDER_TEST_SNDFILE REQUIRED IMPORTED_TARGET sndfile)
    halvane_add_test(test_render SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/render_test.cpp
                     LIBS PkgConfig::RENDER_TEST_SNDFILE)
    target_compile_definitions(test_render PRIVATE
                               HALVANE_RENDER_PATH="$<TARGET_FILE:halvane-render>"
                               HALVANE_BUNDLE_PATH="${HALVANE_BUNDLE_DIR}")
    add_dependencies(test_render halvane-render HalvaneDuo)
endif()
