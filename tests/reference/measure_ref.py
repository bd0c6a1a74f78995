#!/usr/bin/env python3
"""Independent reference for the measurement run: given the documents (already
filtered and case folded) and the run options, produce the exact bytes of every
result file. Every window position is computed afresh from its counts; only the
cross measures with RefCorpContainsText follow the per-token bookkeeping that
makes them drift from a fresh computation.
"""
import math
from decimal import Decimal

BASIC = ["tokens", "types", "hapax", "perplexity", "rrr", "hill", "cross-types",
         "cross-perplexity", "cross-rrr", "cross-hill", "length", "difference",
         "autosemantics"]
BASIC_CAPTION = ["Tokens", "Types", "Hapax", "Perplexity", "Reverse Repeat Rate",
                 "Hills Continuum", "Cross Types", "Cross Perplexity",
                 "Cross Reverse Repeat Rate", "Cross Hills Continuum", "Token Length",
                 "Differrence", "Autosemantics"]
BASIC_DIGITS_POS = [0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 4, 4, 4]
BASIC_DIGITS_AVG = [1, 1, 1, 1, 1, 4, 1, 1, 1, 1, 4, 4, 4]
SECONDARY = ["ttr", "log-ttr", "root-ttr", "entropy", "cross-entropy", "relative-entropy",
             "repeat-rate", "cross-repeat-rate", "loglog-ttr", "logloglog-ttr",
             "relative-perplexity", "relative-types", "log-types", "log-relative-types",
             "renyi-entropy", "renyi-cross-entropy", "renyi-relative-entropy"]
SECONDARY_CAPTION = ["TTR", "LogTTR", "RootTTR", "Entropy", "Cross Entropy",
                     "Relative Entropy", "Repeat Rate", "Cross Repeat Rate", "LogLogTTR",
                     "LogLogLogTTR", "Relative Perplexity", "Relative Types", "Log Types",
                     "Log Relative Types", "Rényi Entropy", "Rényi Cross Entropy",
                     "Rényi Relative Entropy"]
SECONDARY_DIGITS = [3, 3, 3, 2, 2, 2, 4, 4, 4, 4, 2, 2, 2, 2, 2, 2, 2]

(vTokens, vTypes, vHapax, vPerplexity, vRRR, vHillsContinuum, vCrossTypes,
 vCrossPerplexity, vCrossRRR, vCrossHillsContinuum, vLength, vDifference,
 vAutosemantics) = range(13)
(vTTR, vLogTTR, vRootTTR, vEntropy, vCrossEntropy, vRelativeEntropy, vRepeatRate,
 vCrossRepeatRate, vLogLogTTR, vLogLogLogTTR, vRelativePerplexity, vRelativeTypes,
 vLogTypes, vLogRelativeTypes, vRenyiEntropy, vRenyiCrossEntropy,
 vRenyiRelativeEntropy) = range(17)
CROSS = (vCrossTypes, vCrossPerplexity, vCrossRRR, vCrossHillsContinuum)
SMOOTHING = 0.5
# distribution files holding a value within rounding noise of an interval boundary
FRAGILE = {}
INF = float("inf")
NAN = float("nan")


# ---------------------------------------------------------------- IEEE helpers
def div(a, b):
    if b == 0:
        if a == 0 or math.isnan(a):
            return NAN
        return math.copysign(INF, a) * math.copysign(1.0, b)
    return a / b


def ln(x):
    if math.isnan(x) or x < 0:
        return NAN
    if x == 0:
        return -INF
    if math.isinf(x):
        return INF
    return math.log(x)


def log2(x):
    if math.isnan(x) or x < 0:
        return NAN
    if x == 0:
        return -INF
    if math.isinf(x):
        return INF
    return math.log2(x)


def pw(x, y):
    if y == 0:
        return 1.0
    if math.isnan(x) or math.isnan(y):
        return NAN
    if x == 0:
        return 0.0 if y > 0 else INF
    if x < 0 and y != math.floor(y):
        return NAN
    try:
        return math.pow(x, y)
    except OverflowError:
        return INF if x > 0 or (y % 2 == 0) else -INF


def u16(s):
    b = s.encode("utf-16-le")
    return [b[i] | (b[i + 1] << 8) for i in range(0, len(b), 2)]


def rel_edit_distance(a, b):
    a, b = u16(a), u16(b)
    if not a:
        return float(len(b)) / max(len(b), 1) if b else 0.0
    if not b:
        return 1.0
    prev = list(range(len(b) + 1))
    for i in range(1, len(a) + 1):
        cur = [i] + [0] * len(b)
        for j in range(1, len(b) + 1):
            cur[j] = min(prev[j] + 1, cur[j - 1] + 1,
                         prev[j - 1] + (0 if a[i - 1] == b[j - 1] else 1))
        prev = cur
    return prev[len(b)] / max(len(a), len(b))


# ---------------------------------------------------------------- number text
def fmt_number(x, digits):
    if math.isnan(x):
        return "NaN"
    if math.isinf(x):
        return "Inf" if x > 0 else "-Inf"
    ax = Decimal(abs(x))
    if ax >= Decimal(10) ** 10:
        # integer part of more than 10 digits: scientific, 10 significant digits
        return "%.9e" % x
    if ax == 0:
        return "%.*f" % (digits, 0.0)
    # one correct rounding at min(digits decimals, 10 significant digits)
    last = max(-digits, ax.adjusted() - 9)
    r = ax.quantize(Decimal(1).scaleb(last), rounding="ROUND_HALF_EVEN")
    if r.adjusted() - 9 > last:
        r = r.quantize(Decimal(1).scaleb(r.adjusted() - 9), rounding="ROUND_HALF_EVEN")
    if r >= Decimal(10) ** 10:
        return fmt_number(math.copysign(float(r), x), digits)
    s = format(r.quantize(Decimal(1).scaleb(-digits)), "f")
    if x < 0 and any(c not in "0." for c in s):
        s = "-" + s
    return s


def interval_label(i, g):
    return "%.15g" % (i / g)


# ---------------------------------------------------------------- result record
class Pos:
    def __init__(self, q):
        self.m = [0.0] * 13
        self.q = q

    def hill(self):
        s = self.m[vHillsContinuum]
        if s <= 0:
            return 0.0
        if self.q == 0:
            return self.m[vTypes]
        if self.q == 1:
            return self.m[vPerplexity]
        return pw(s, div(1.0, 1.0 - self.q))

    def cross_hill(self):
        s = self.m[vCrossHillsContinuum]
        if s <= 0:
            return 0.0
        if self.q == 0:
            return self.m[vCrossTypes]
        if self.q == 1:
            return self.m[vCrossPerplexity]
        return pw(s, div(1.0, 1.0 - self.q))

    def basic(self, w):
        if w == vHillsContinuum:
            return self.hill()
        if w == vCrossHillsContinuum:
            return self.cross_hill()
        return self.m[w]

    def secondary(self, w):
        m, q = self.m, self.q
        tok, typ, perp, rrr = m[vTokens], m[vTypes], m[vPerplexity], m[vRRR]
        hill, ctyp, cperp, crrr, chill = (m[vHillsContinuum], m[vCrossTypes],
                                          m[vCrossPerplexity], m[vCrossRRR],
                                          m[vCrossHillsContinuum])
        if w == vTTR:
            return div(typ, tok)
        if w == vLogTTR:
            return div(ln(typ), ln(tok)) if tok > 1 and typ > 1 else 0.0
        if w == vRootTTR:
            return div(typ, math.sqrt(tok)) if tok != 0 else 0.0
        if w == vEntropy:
            return log2(perp) if perp != 0 else 0.0
        if w == vCrossEntropy:
            return log2(cperp) if cperp != 0 else 0.0
        if w == vRelativeEntropy:
            return log2(cperp) - log2(perp) if perp != 0 else 0.0
        if w == vRepeatRate:
            return div(1.0, rrr) if rrr != 0 else 0.0
        if w == vCrossRepeatRate:
            return div(1.0, crrr) if crrr != 0 else 0.0
        if w == vLogLogTTR:
            return div(ln(ln(typ)), ln(ln(tok))) if tok > 1 and typ > 1 else 0.0
        if w == vLogLogLogTTR:
            return div(ln(ln(ln(typ))), ln(ln(ln(tok)))) if tok > 2.8 and typ > 2.8 else 0.0
        if w == vRelativePerplexity:
            return div(cperp, perp) if perp != 0 else 0.0
        if w == vRelativeTypes:
            return div(ctyp, typ) if typ > 0 else 0.0
        if w == vLogTypes:
            return log2(typ) if typ > 0 else 0.0
        if w == vLogRelativeTypes:
            return log2(ctyp) - log2(typ) if typ > 0 and ctyp > 0 else 0.0
        if w == vRenyiEntropy:
            return div(log2(hill), 1.0 - q) if hill > 0 else 0.0
        if w == vRenyiCrossEntropy:
            return div(log2(chill), 1.0 - q) if chill > 0 else 0.0
        if w == vRenyiRelativeEntropy:
            if chill > 0 and hill > 0:
                return div(log2(chill), 1.0 - q) - div(log2(hill), 1.0 - q)
            return 0.0
        raise ValueError(w)


def widen(measures, secondary, q):
    ws = set(measures)
    sec = set(secondary)
    if sec & {vTTR, vLogTTR, vRootTTR}:
        ws |= {vTokens, vTypes}
    if vEntropy in sec:
        ws.add(vPerplexity)
    if vCrossEntropy in sec:
        ws.add(vCrossPerplexity)
    if vRelativeEntropy in sec:
        ws |= {vPerplexity, vCrossPerplexity}
    if vRelativePerplexity in sec:
        ws |= {vPerplexity, vCrossPerplexity}
    if vRepeatRate in sec:
        ws.add(vRRR)
    if vCrossRepeatRate in sec:
        ws.add(vCrossRRR)
    if vHillsContinuum in ws:
        if q == 0:
            ws.add(vTypes)
        elif q == 1:
            ws.add(vPerplexity)
    if vCrossHillsContinuum in ws:
        if q == 0:
            ws.add(vCrossTypes)
        elif q == 1:
            ws.add(vCrossPerplexity)
    return ws


class RefList:
    """entries: type -> (count, toklen); total: sum of counts of every line."""

    def __init__(self, entries, total):
        self.entries = entries
        self.total = total


class Engine:
    def __init__(self, L, measures, secondary, q, rct, ref):
        self.L = L
        self.q = q
        self.rct = rct
        self.ref = ref
        self.ws = widen(measures, secondary, q)
        if ref is None or ref.total == 0:
            self.ws -= set(CROSS)
            self.ref = None

    def ref_count(self, t):
        if self.ref is None:
            return 0
        e = self.ref.entries.get(t)
        return e[0] if e else 0

    def tok_length(self, t):
        if self.ref is not None:
            e = self.ref.entries.get(t)
            if e:
                return e[1]
        return len(u16(t))

    def rhat(self, refp):
        T = self.ref.total
        V = len(self.ref.entries)
        return (refp + SMOOTHING) / (T + V * SMOOTHING)

    def full(self, counts, autos):
        """counts: dict type -> count (>= 1), in first-seen order."""
        p = Pos(self.q)
        m = p.m
        ws = self.ws
        N = sum(counts.values())
        items = list(counts.items())
        if vTokens in ws:
            m[vTokens] = float(N)
        if vTypes in ws:
            m[vTypes] = float(len(items))
        if vHapax in ws:
            m[vHapax] = float(sum(1 for _, c in items if c == 1))
        if vPerplexity in ws:
            a = 1.0
            for _, c in items:
                pr = c / N
                a *= pw(pr, -pr)
            m[vPerplexity] = a
        if vRRR in ws:
            # 1 / (sum of p^2) = N^2 / (sum of c^2), one correctly rounded division;
            # S = 0 for N <= 1.
            sq = sum(c * c for _, c in items) if N > 1 else 0
            m[vRRR] = INF if sq == 0 else (N * N) / sq
        if vHillsContinuum in ws:
            acc = 0.0
            if self.q == 1:
                acc = 1.0 if N > 0 else 0.0  # the sum of the shares, exactly
            else:
                for _, c in items:
                    acc += pw(c / N, self.q)
            m[vHillsContinuum] = acc
        if self.ref is not None:
            T = self.ref.total
            refp = {t: self.ref_count(t) - (c if self.rct else 0) for t, c in items}
            if vCrossTypes in ws:
                TV = T + len(self.ref.entries) * SMOOTHING
                acc = 0.0
                for t, c in items:
                    acc += (c / N) * TV / (refp[t] + SMOOTHING)
                m[vCrossTypes] = acc
            if vCrossPerplexity in ws:
                a = 1.0
                for t, c in items:
                    a *= pw(self.rhat(refp[t]), -(c / N))
                m[vCrossPerplexity] = a
            if vCrossRRR in ws:
                K = sum(c * refp[t] for t, c in items)
                m[vCrossRRR] = INF if K == 0 else float(N) * float(T) / float(K)
            if vCrossHillsContinuum in ws:
                acc = 0.0
                if self.q == 1:
                    acc = 1.0 if N > 0 else 0.0  # r^0 = 1: the sum of the shares
                else:
                    for t, c in items:
                        acc += (c / N) * pw(self.rhat(refp[t]), self.q - 1)
                m[vCrossHillsContinuum] = acc
        if vLength in ws:
            m[vLength] = sum(c * self.tok_length(t) for t, c in items) / N if N > 0 else 0.0
        if vDifference in ws:
            acc = 0.0
            if N > 0:
                for a, ca in items:
                    for b, cb in items:
                        if a != b:
                            acc += (ca / N) * (cb / N) * rel_edit_distance(a, b)
            m[vDifference] = acc
        if vAutosemantics in ws:
            m[vAutosemantics] = autos / N if N > 0 else 0.0
        return p


def run_kind(doc_tokens, L, measures, secondary, q, rct, ref):
    """doc_tokens: list of (type, autosemantic). Returns (positions, whole)."""
    eng = Engine(L, measures, secondary, q, rct, ref)
    toks = [t for t in doc_tokens if t[0] != ""]
    positions = []
    cross_state = None
    for k in range(L, len(toks) + 1):
        window = toks[k - L:k]
        counts = {}
        for t, _ in window:
            counts[t] = counts.get(t, 0) + 1
        autos = sum(1 for _, a in window if a)
        pos = eng.full(counts, autos)
        if eng.rct and eng.ref is not None:
            # cross values follow the per-token bookkeeping of the shift
            if cross_state is None:
                cross_state = {"m": [pos.m[i] for i in CROSS]}
                K0 = sum(c * (eng.ref_count(t) - c) for t, c in counts.items())
                cross_state["K"] = K0
            else:
                e = toks[k - 1][0]
                x = toks[k - 1 - L][0]
                if e != x:
                    ce = counts[e]
                    cx = counts.get(x, 0)
                    refe = eng.ref_count(e) - ce
                    refx = eng.ref_count(x) - (cx + 1)
                    re_, rx = eng.rhat(refe), eng.rhat(refx)
                    cs = cross_state["m"]
                    if vCrossTypes in eng.ws:
                        cs[0] = cs[0] + (div(1.0, re_) - div(1.0, rx)) / L
                    if vCrossPerplexity in eng.ws:
                        cs[1] = div(cs[1] * pw(re_, -1.0 / L), pw(rx, -1.0 / L))
                    cross_state["K"] += refe - refx
                    if vCrossHillsContinuum in eng.ws:
                        term = (pw(re_, q - 1) - pw(rx, q - 1)) / L
                        if math.isfinite(term):
                            cs[3] = cs[3] + term
            cs = cross_state["m"]
            if vCrossTypes in eng.ws:
                pos.m[vCrossTypes] = cs[0]
            if vCrossPerplexity in eng.ws:
                pos.m[vCrossPerplexity] = cs[1]
            if vCrossRRR in eng.ws:
                pos.m[vCrossRRR] = div(float(L) * float(eng.ref.total), float(cross_state["K"]))
            if vCrossHillsContinuum in eng.ws:
                pos.m[vCrossHillsContinuum] = cs[3]
        if L == 1 and positions and vRRR in eng.ws:
            # A one-token window: the shift's guard gives 0 once another type has
            # entered; the same type entering and leaving changes nothing.
            same = toks[k - 1][0] == toks[k - 2][0]
            pos.m[vRRR] = positions[-1].m[vRRR] if same else 0.0
        positions.append(pos)
    counts = {}
    for t, _ in toks:
        counts[t] = counts.get(t, 0) + 1
    whole = eng.full(counts, sum(1 for _, a in toks if a))
    return positions, whole, eng.ws


def quote(s):
    return '"' + s.replace('"', '""') + '"'


def row(values):
    return "".join("," + quote(v) for v in values)


def run(docs, opts):
    """docs: list of (name, [(word, lemma, tag, autosemantic)]).
    opts: dict with L, measures (ordinals), secondary (ordinals), q, refs
    {kind: RefList or None}, rct, outputs (set of 'averages', 'series',
    'wholetexts', 'distributions'), kinds (list of 'Word'/'Lemma').
    Returns {file name: bytes}."""
    L = opts["L"]
    ms = sorted(opts["measures"])
    ss = sorted(opts["secondary"])
    q = opts["q"]
    outs = opts["outputs"]
    files = {}
    header = "".join("," + quote(BASIC_CAPTION[m]) for m in ms) + \
        "".join("," + quote(SECONDARY_CAPTION[s]) for s in ss)
    docs = [d for d in docs if d[1]]
    for kind in opts["kinds"]:
        ki = 0 if kind == "Word" else 1
        ref = opts["refs"].get(kind)
        avg_lines = ['"File Name","Text id"' + header]
        whole_lines = ['"File Name","Text id"' + header]
        dist_lines = {("b", m): [] for m in ms}
        dist_lines.update({("s", s): [] for s in ss})
        gran = {("b", m): (100 if m in (vLength, vDifference, vAutosemantics) else 1) for m in ms}
        gran.update({("s", s): 100 for s in ss})
        total_dist = {k: {} for k in dist_lines}
        for n, (name, toks) in enumerate(docs, start=1):
            kt = [(t[ki], t[3]) for t in toks]
            positions, whole, ws = run_kind(kt, L, ms, ss, q, opts["rct"], ref)
            key = quote(name) + "," + quote(str(n))
            if "series" in outs:
                lines = ['"Window id"' + header]
                for i, p in enumerate(positions, start=1):
                    vals = [fmt_number(p.basic(m), BASIC_DIGITS_POS[m]) for m in ms] + \
                        [fmt_number(p.secondary(s), SECONDARY_DIGITS[s]) for s in ss]
                    lines.append(quote(str(i)) + row(vals))
                files["Serie%d%s%d.csv" % (n, kind, L)] = lines
            if "averages" in outs:
                # A text shorter than the window completes no position: no average, NaN.
                nw = len(positions)
                vals = []
                for m in ms:
                    acc = 0.0
                    for p in positions:
                        acc += p.basic(m)
                    vals.append(fmt_number(acc / nw if nw else NAN, BASIC_DIGITS_AVG[m]))
                for s in ss:
                    acc = 0.0
                    for p in positions:
                        acc += p.secondary(s)
                    vals.append(fmt_number(acc / nw if nw else NAN, SECONDARY_DIGITS[s]))
                avg_lines.append(key + row(vals))
            if "wholetexts" in outs:
                vals = [fmt_number(whole.basic(m), BASIC_DIGITS_POS[m]) for m in ms] + \
                    [fmt_number(whole.secondary(s), SECONDARY_DIGITS[s]) for s in ss]
                whole_lines.append(key + row(vals))
            if "distributions" in outs:
                for k in dist_lines:
                    d = {}
                    fname = "Distribution%s_%s%d.csv" % (
                        kind, BASIC_CAPTION[k[1]] if k[0] == "b" else SECONDARY_CAPTION[k[1]], L)
                    fixed, flex = {}, []
                    for p in positions:
                        v = p.basic(k[1]) if k[0] == "b" else p.secondary(k[1])
                        idx = dist_index(v, gran[k])
                        if idx is not None:
                            x = v * gran[k]
                            if abs(abs(x - math.floor(x)) - 0.5) < 1e-7 * max(1.0, abs(x)):
                                flex.append((math.floor(x), math.floor(x) + 1))
                            else:
                                fixed[idx] = fixed.get(idx, 0) + 1
                        if idx is None:
                            continue
                        d[idx] = d.get(idx, 0) + 1
                        total_dist[k][idx] = total_dist[k].get(idx, 0) + 1
                    FRAGILE.setdefault(fname, []).append((fixed, flex))
                    dist_lines[k].append(key)
                    dist_lines[k].extend(dist_output(d, gran[k]))
        if "averages" in outs:
            files["Averages%s%d.csv" % (kind, L)] = avg_lines if docs else avg_lines[:1]
        if "wholetexts" in outs:
            files["WholeTexts%s.csv" % kind] = whole_lines if docs else whole_lines[:1]
        if "distributions" in outs:
            for k, lines in dist_lines.items():
                lines.append('"TOTAL"')
                lines.extend(dist_output(total_dist[k], gran[k]))
                cap = BASIC_CAPTION[k[1]] if k[0] == "b" else SECONDARY_CAPTION[k[1]]
                files["Distribution%s_%s%d.csv" % (kind, cap, L)] = lines
    return {name: ("\ufeff" + "".join(l + "\r\n" for l in lines)).encode("utf-8")
            for name, lines in files.items()}


def dist_index(v, g):
    if not math.isfinite(v):
        return None
    x = v * g
    if not math.isfinite(x):
        return None
    i = round(x)
    if i < -2**31 or i > 2**31 - 1:
        return None
    return i


def dist_output(d, g):
    if not d:
        return ["", ""]
    neg = [i for i in d if i < 0]
    pos = [i for i in d if i >= 0]
    idxs = (list(range(min(neg), 0)) if neg else []) + (list(range(0, max(pos) + 1)) if pos else [])
    labels = "".join(interval_label(i, g) + "," for i in idxs)
    counts = "".join(str(d.get(i, 0)) + "," for i in idxs)
    return [labels, counts]
