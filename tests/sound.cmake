halvane_add_test(test_sound SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/sound_test.cpp LIBS halvane_room)
