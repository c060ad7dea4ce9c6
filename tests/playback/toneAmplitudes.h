#pragma once

#include <vector>

// The amplitude spectrum of one second of a 44100 Hz signal, in 1 Hz bins:
// a 44100-point transform (FFTW) under a periodic 4-term Blackman-Harris
// window. A sine of a whole number of hertz falls exactly on its bin, where
// it reads its amplitude, and leaks into no bin more than 3 Hz away.
std::vector<double> AmplitudeSpectrum(const std::vector<float> &second);

// The amplitude as a level in dB against amplitude 1.
double Decibels(double amplitude);

// The loudest bin between fromHz and toHz, leaving out the bins within 8 Hz
// of each frequency in skipHz.
struct SpectrumPeak {
    int hz = 0;
    double amplitude = 0;
};
SpectrumPeak LoudestBin(const std::vector<double> &spectrum, int fromHz, int toHz, const std::vector<int> &skipHz = {});
