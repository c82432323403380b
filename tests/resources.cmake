# SPDX-License-Identifier: GPL-3.0-or-later
# The editor description and images as the module embeds them.
pkg_check_modules(RESOURCES_TEST_DEPS REQUIRED IMPORTED_TARGET cairo pugixml)
halvane_add_test(test_resources SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/resources_test.cpp
                 LIBS halvane_resources PkgConfig::RESOURCES_TEST_DEPS)
