# SPDX-License-Identifier: GPL-3.0-or-later
# Descriptions that name the framework's own views, built through the binding's editor.
halvane_add_test(test_custom_views
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/custom_views_test.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/support/TestBitmaps.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/support/TestPlugInFactory.cpp
    LIBS halvane_binding halvane_controls halvane_editor halvane_framework halvane_host)
