# Region detection on the bundled 20-feud map and on a hard one, beside one
# plain pass reading every pixel.
marchfell_bench(detection_bench ${CMAKE_CURRENT_SOURCE_DIR}/DetectionBench.cpp)
target_link_libraries(detection_bench PRIVATE marchfell_test_maps)
target_compile_definitions(detection_bench PRIVATE MARCHFELL_BENCH_MAPS="${CMAKE_SOURCE_DIR}/assets/maps")
