/* Triangulates a unit square with its centre through the installed header
 * and library: four triangles, slot 5 in each. Exit status 0 on success. */
#include <vantrel.h>

#include <stdio.h>

int main(void)
{
    PointRecord points[6] = {{0, 0, 0}, {0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}, {1, 1, 0}};
    TriangleRecord triangles[11];
    TriangulateFn fn = Triangulate;
    int32_t i;
    int32_t t = fn(5, 10, 5, points, triangles, VANTREL_FLAG_DELAUNAY);
    if (t != 4) {
        fprintf(stderr, "expected 4 triangles, got %d\n", (int)t);
        return 1;
    }
    for (i = 1; i <= t; ++i) {
        if (triangles[i].a != 5 && triangles[i].b != 5 && triangles[i].c != 5) {
            fprintf(stderr, "triangle %d misses the centre\n", (int)i);
            return 1;
        }
    }
    return 0;
}
