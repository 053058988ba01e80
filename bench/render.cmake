# The map repaint beside one pass writing every pixel of the picture.
marchfell_bench(render_bench ${CMAKE_CURRENT_SOURCE_DIR}/RenderBench.cpp)
target_compile_definitions(render_bench PRIVATE MARCHFELL_BENCH_MAPS="${CMAKE_SOURCE_DIR}/assets/maps")
