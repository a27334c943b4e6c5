#pragma once
// Keyword search benchmark: three alternatives over 100,000 generated headlines, beside plain
// substring passes over the same titles. Prints one line per measurement to standard output.

void benchSearch();
