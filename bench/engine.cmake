# The week's end on a full world, beside one plain read pass over the lennik table.
marchfell_bench(engine_bench ${CMAKE_CURRENT_SOURCE_DIR}/EngineBench.cpp)
