/* Resource ids of the open-movie dialog, shared by the .rc and the code. */
#pragma once

#define IDD_OPEN_MOVIE 200
#define IDC_MOVIE_PATH 201
#define IDC_BROWSE_MOVIE 202
