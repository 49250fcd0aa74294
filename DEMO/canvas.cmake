# The raster canvas: the point set's drawing surface on a QImage. Qt Gui only,
# so the point-set tests and benchmarks can draw without a window or display.
add_library(democanvas STATIC
  ${CMAKE_CURRENT_LIST_DIR}/RasterCanvas.h
  ${CMAKE_CURRENT_LIST_DIR}/RasterCanvas.cpp)
target_include_directories(democanvas PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(democanvas PUBLIC Qt6::Gui pointset PRIVATE project_options)
set_target_properties(democanvas PROPERTIES AUTOMOC OFF)
