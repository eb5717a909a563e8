# player_bench: first-audio latency and CPU share of the player on a real sound server.
# Included from bench/CMakeLists.txt; needs the Qt build.
if(NOT SLICEWELL_CORE_ONLY AND TARGET sw_player_qt)
    add_executable(player_bench
        ${CMAKE_CURRENT_LIST_DIR}/player_bench.cpp
        ${PROJECT_SOURCE_DIR}/tests/player/pulse_server.cpp
        ${PROJECT_SOURCE_DIR}/tests/player/player_fixture.cpp
        ${PROJECT_SOURCE_DIR}/tests/support/frame_builder.cpp
    )
    target_include_directories(player_bench PRIVATE
        ${PROJECT_SOURCE_DIR}/tests/player ${PROJECT_SOURCE_DIR}/tests/support)
    target_link_libraries(player_bench PRIVATE sw_player_qt Qt6::Core)
endif()
