#pragma once
#define IDI_ZAPNIX 1
