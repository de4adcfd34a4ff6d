#pragma once

#define IDR_DEFAULT_CONFIG 101
