halvane_add_test(test_convolver SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/convolver_test.cpp
                 LIBS halvane_room)
