# cutter_bench: the cutter window's first audio after a click, its jog ticks and its CPU share,
# on a private sound server, beside mpg123. Included from bench/CMakeLists.txt; needs the Qt
# build. bench/cutter.sh runs it on the one-hour file and writes its section of the page.
if(NOT SLICEWELL_CORE_ONLY AND TARGET sw_cutter_ui)
    add_executable(cutter_bench
        ${CMAKE_CURRENT_LIST_DIR}/cutter_bench.cpp
        ${CMAKE_CURRENT_LIST_DIR}/played_buffers_wave_out.cpp
        ${PROJECT_SOURCE_DIR}/tests/player/pulse_server.cpp
        ${PROJECT_SOURCE_DIR}/tests/player/player_fixture.cpp
        ${PROJECT_SOURCE_DIR}/tests/support/frame_builder.cpp
    )
    target_include_directories(cutter_bench PRIVATE
        ${PROJECT_SOURCE_DIR}/tests/player ${PROJECT_SOURCE_DIR}/tests/support)
    target_link_libraries(cutter_bench PRIVATE sw_cutter_ui)
endif()
