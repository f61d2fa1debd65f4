/* Version of the movie control, shared by its version resource and its
   FlashVersion member. Containers take an installed control of this class
   only from file version 7.0.32.0 on, so the version stays above that. */
#pragma once

#define LUMBRA_FLASH_MAJOR 7
#define LUMBRA_FLASH_MINOR 0
#define LUMBRA_FLASH_BUILD 70
#define LUMBRA_FLASH_VERSION LUMBRA_FLASH_MAJOR, LUMBRA_FLASH_MINOR, LUMBRA_FLASH_BUILD, 0
#define LUMBRA_FLASH_VERSION_TEXT "7.0.70.0"
