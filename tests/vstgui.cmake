# SPDX-License-Identifier: GPL-3.0-or-later
# The VSTGUI subset: views, controls, drawing through Cairo and the description parser.
pkg_check_modules(VSTGUI_TEST_CAIRO REQUIRED IMPORTED_TARGET cairo)
halvane_add_test(test_vstgui
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/vstgui_test.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/support/TestResources.cpp
    LIBS halvane_vstgui PkgConfig::VSTGUI_TEST_CAIRO)
halvane_add_test(test_uidescription
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/uidescription_test.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/support/TestResources.cpp
    LIBS halvane_vstgui PkgConfig::VSTGUI_TEST_CAIRO)
