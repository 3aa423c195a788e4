#include "filter/SampleProperties.h"

void CopySampleProperties(const SampleProperties& input, SampleProperties& output)
{
    output = input;
}
