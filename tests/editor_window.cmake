# SPDX-License-Identifier: GPL-3.0-or-later
# The room's editor in a host's X11 window, run by the host's run loop, through the real bundle.
# Skips itself when no display can be opened.
# Cairo and fontconfig are linked so their lifelong caches stay mapped, named and suppressed in
# the leak report after the bundle is unloaded.
pkg_check_modules(HALVANE_TEST_WINDOW_LIBS REQUIRED IMPORTED_TARGET cairo fontconfig x11)

if(TARGET HalvaneDuo)
    halvane_add_test(test_editor_window
        SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/editor_window_test.cpp
        LIBS halvane_host PkgConfig::HALVANE_TEST_WINDOW_LIBS)
    target_link_options(test_editor_window PRIVATE -Wl,--no-as-needed)
    target_compile_definitions(test_editor_window PRIVATE HALVANE_BUNDLE_PATH="${HALVANE_BUNDLE_DIR}")
    add_dependencies(test_editor_window HalvaneDuo)
endif()
