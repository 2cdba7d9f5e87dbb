// Putting prepared images into GL texture objects.
#pragma once

#include <SDL.h>

#include <cstdint>

// Binds the texture object and builds its full mipmap chain from the surface's
// 24-bit RGB rows.
void upload_texture(SDL_Surface* surface, uint32_t texture_object);

// The texture library's loader: load_image, upload_texture, free the surface.
bool load_texture_file(const char* path, int32_t texture_object, int32_t* width, int32_t* height);
