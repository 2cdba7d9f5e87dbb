// Image files for textures: decoded by SDL_image, turned into 24-bit RGB rows
// stored bottom row first, which is what OpenGL expects for t = 0.
#pragma once

#include <SDL.h>

// Loads the image at path and prepares it (see prepare_image). Null on failure,
// after a message on standard error.
SDL_Surface* load_image(const char* path);

// Checks that the surface holds 24-bit pixels in RGB or BGR order, turns it
// upside down and brings every pixel into RGB order. On refusal prints why on
// standard error, frees the surface and returns null; otherwise returns it.
SDL_Surface* prepare_image(SDL_Surface* surface);
