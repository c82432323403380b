# SPDX-License-Identifier: GPL-3.0-or-later
# Controller-side paths driven through small plug-in objects of the tests' own.
halvane_add_test(test_controller
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/controller_test.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/support/TestPlugInFactory.cpp
    LIBS halvane_binding halvane_framework halvane_host)
