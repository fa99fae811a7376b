# The sphere-view build bench; included from bench/CMakeLists.txt.
add_executable(tarnwick_sphere_bench ${CMAKE_CURRENT_LIST_DIR}/sphere_bench.cpp)
target_link_libraries(tarnwick_sphere_bench PRIVATE tw_layout tw_graph tw_data tw_warnings)
