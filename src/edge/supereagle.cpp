// "Super Eagle": the output block is built from the centre block itself,
// continuing a diagonal line with copies and three-to-one blends, or blending
// along the rows where no column of the centre block is one colour.
#include "edge/window.h"
#include "frame/routines.h"

namespace tovrin {
namespace {

using edge::Avg;
using edge::ByCase;
using edge::Eq;
using edge::Ne;
using edge::Px;
using edge::Select;

// avg(p, avg(p, q)): three parts p to one part q, rounded down at each step.
Px ThreeToOne(Px p, Px q) { return Avg(p, Avg(p, q)); }

edge::Block2x2 SuperEagleBlock(const edge::Window& w) {
    const Px B = w.B, C = w.C, E = w.E, F = w.F, G = w.G, H = w.H;
    const Px I = w.I, J = w.J, K = w.K, L = w.L, N = w.N, O = w.O;
    const edge::Diagonals diagonals = edge::DiagonalsOf(w);
    const Px fg = Avg(F, G), jk = Avg(J, K);

    // Anti-diagonal: the line's colour J on the diagonal, its two ends blended
    // harder where the line continues.
    const Px antiRuns = (Eq(I, J) & Eq(G, H)) | (Eq(J, N) & Eq(G, C));
    const Px tl1 = Select(antiRuns, ThreeToOne(J, F), fg);
    const Px br1 = Select(antiRuns, ThreeToOne(J, K), jk);
    // Main diagonal, the same with F.
    const Px mainRuns = (Eq(B, F) & Eq(K, O)) | (Eq(E, F) & Eq(K, L));
    const Px tr2 = Select(mainRuns, ThreeToOne(F, G), fg);
    const Px bl2 = Select(mainRuns, ThreeToOne(F, J), jk);
    // Both diagonals: the vote picks which one is blended; a tie blends none.
    const edge::Vote vote = edge::VoteOf(w);
    const Px mainCorners = Select(vote.positive, fg, F);
    const Px antiCorners = Select(vote.negative, fg, J);
    // Neither: the centre block itself where one of its columns is one
    // colour, otherwise blends along its rows.
    const Px column = Eq(J, F) | Eq(K, G);
    const Px tl4 = Select(column, F, Avg(F, fg)), tr4 = Select(column, G, Avg(G, fg));
    const Px bl4 = Select(column, J, Avg(J, jk)), br4 = Select(column, K, Avg(K, jk));

    return edge::Block2x2{ByCase(diagonals, F, tl1, mainCorners, tl4), ByCase(diagonals, tr2, J, antiCorners, tr4),
                          ByCase(diagonals, bl2, J, antiCorners, bl4), ByCase(diagonals, F, br1, mainCorners, br4)};
}

}  // namespace

TOVRIN_ROUTINE(SuperEagle_2x) {
    (void)cache;
    edge::Scale2x<SuperEagleBlock>(src, srcRowBytes, dst, dstRowBytes, width, height);
}

TOVRIN_ROUTINE(SuperEagle_4x) {
    edge::Scale4x<SuperEagle_2x>(src, srcRowBytes, cache, dst, dstRowBytes, width, height);
}

}  // namespace tovrin
