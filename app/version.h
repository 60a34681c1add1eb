// The engine's version, as the console banner and the UCI handshake give it.
#pragma once

constexpr const char* ROTOR_VERSION = "1.00";
