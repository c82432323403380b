# SPDX-License-Identifier: GPL-3.0-or-later
halvane_add_test(test_binding
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/binding_test.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/support/TestPlugInFactory.cpp
    LIBS halvane_binding halvane_host)
