#pragma once
#define IDI_ZAPNIX 1
#define IDB_ABOUT 2
