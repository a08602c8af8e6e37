#include <SDL/SDL.h>
