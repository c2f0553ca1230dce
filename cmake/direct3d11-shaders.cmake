# The Direct3D 11 shader byte code, render3d/Direct3D11ShaderBlobs.cpp, is
# committed: the build needs no shader compiler. After a change of
# render3d/Direct3D11Shaders.hlsl, make it again under Wine with
#     cmake --build build --target direct3d11-shaders
add_executable(compile-shaders EXCLUDE_FROM_ALL tools/compile-shaders.cpp)
target_link_options(compile-shaders PRIVATE -static)
add_custom_target(direct3d11-shaders
    COMMAND ${CMAKE_BINARY_DIR}/wine-run $<TARGET_FILE:compile-shaders>
            Z:${CMAKE_SOURCE_DIR}/render3d/Direct3D11Shaders.hlsl Z:${CMAKE_SOURCE_DIR}/render3d/Direct3D11ShaderBlobs.cpp
    DEPENDS compile-shaders
    COMMENT "Compiling the Direct3D 11 shaders under Wine"
    VERBATIM)
