#!/usr/bin/env python3
"""Expected outputs of the indicator, statistical, fitting and smoothing
functions for one short price series, worked out from their definitions with
the standard library only (fractions for exact least squares). Prints one line
a result: a key followed by its values."""
import math
from fractions import Fraction

X = [1, 2, 3, 4, 5, 6, 7, 8]
O = [10, 11, 12, 11, 13, 14, 13, 15]
H = [12, 13, 13, 14, 15, 16, 15, 17]
L = [9, 10, 11, 10, 12, 13, 12, 14]
C = [11, 12, 11, 13, 14, 13, 15, 16]
V = [100, 200, 150, 300, 250, 100, 400, 350]
N = len(C)
out = {}


def windows(p):
    return [(t - p + 1, t) for t in range(p - 1, N)]


def ema(vals, p):
    if p <= 0 or len(vals) < 2:
        return []
    k = 2 / (p + 1)
    r = [vals[0]]
    for v in vals[1:]:
        r.append(v * k + (1 - k) * r[-1])
    return r


out["ma3"] = [sum(C[a:b + 1]) / 3 for a, b in windows(3)]
out["ma3_index"] = [sum(C[i] * (i - a + 1) for i in range(a, b + 1)) / 6 for a, b in windows(3)]
out["ma3_x"] = [sum(C[i] * X[i] for i in range(a, b + 1)) / sum(X[a:b + 1]) for a, b in windows(3)]
out["expavg"] = [C[0]] + [C[t] * 0.2 + C[t - 1] * 0.8 for t in range(1, N)]
out["ema3"] = ema(C, 3)
out["momentum3"] = [C[b] - C[a] for a, b in windows(3)]
out["momdiv3"] = [100 * C[b] / C[a] for a, b in windows(3)]
out["stoch3"] = []
for a, b in windows(3):
    lo, hi = min(L[a:b + 1]), max(H[a:b + 1])
    out["stoch3"].append(0 if hi == lo else 100 * (C[b] - lo) / (hi - lo))

macd = [f - s for f, s in zip(ema(C, 3), ema(C, 5))]
signal = ema(macd, 2)
out["macd"] = macd
out["macd_signal"] = signal
out["macd_hist"] = [m - s for m, s in zip(macd, signal)]


def rsi(ups, downs):
    if downs == 0:
        return 100
    return min(100, max(0, 100 - 100 / (1 + abs(ups / downs))))


out["rsi3_close"] = []
out["rsi3_openclose"] = []
for a, b in windows(3):
    u = sum(max(C[i] - C[i - 1], 0) for i in range(a + 1, b + 1))
    d = sum(max(C[i - 1] - C[i], 0) for i in range(a + 1, b + 1))
    out["rsi3_close"].append(rsi(u / 3, d / 3))
    u = sum(C[i] for i in range(a, b + 1) if not O[i] > C[i])
    d = sum(C[i] for i in range(a, b + 1) if O[i] > C[i])
    out["rsi3_openclose"].append(rsi(u / 3, d / 3))

# ADX, period 3
P = 3
TR = [0] * N
PDM = [0] * N
MDM = [0] * N
for i in range(1, N):
    TR[i] = max(H[i] - L[i], abs(H[i] - C[i - 1]), abs(L[i] - C[i - 1]))
    up, dn = H[i] - H[i - 1], L[i - 1] - L[i]
    PDM[i] = max(up, 0) if up > dn else 0
    MDM[i] = max(dn, 0) if dn > up else 0
pdi, mdi = [], []
for i in range(P, N):
    if i == P:
        st, sp, sm = sum(TR[1:P + 1]), sum(PDM[1:P + 1]), sum(MDM[1:P + 1])
    else:
        st, sp, sm = st - st / P + TR[i], sp - sp / P + PDM[i], sm - sm / P + MDM[i]
    pdi.append(100 * sp / st)
    mdi.append(100 * sm / st)
dx = lambda j: 100 * abs(pdi[j - P] - mdi[j - P]) / (pdi[j - P] + mdi[j - P])
adx = []
j0 = 2 * P - 2
for j in range(j0, N):
    adx.append(sum(dx(k) for k in range(P, j0 + 1)) / (P - 1) if j == j0 else ((P - 1) * adx[-1] + dx(j)) / P)
out["adx3"] = adx
out["adx3_up"] = pdi
out["adx3_down"] = mdi


def stats(vals):
    n = len(vals)
    mean = sum(vals) / n
    pop = math.sqrt(sum((v - mean) ** 2 for v in vals) / n)
    smp = math.sqrt(sum((v - mean) ** 2 for v in vals) / (n - 1))
    rms_pop = math.sqrt(sum(v * v for v in vals) / n)
    rms_smp = math.sqrt(sum(v * v for v in vals) / (n - 1))
    return [pop, smp, rms_pop, rms_smp]


out["stats_all"] = stats(C)
out["stats_1_4"] = stats(C[1:5])

for name, exp in (("bollinger3_exp", True), ("bollinger3_plain", False)):
    e = ema(C, 3)
    upper, lower = [], []
    for t in range(3, N + 1):
        w = C[t - 3:t]
        mean = sum(w) / 3
        spread = math.sqrt(sum((v - mean) ** 2 for v in w) / 3)
        avg = e[t - 1] if exp else mean
        upper.append(avg + 2 * spread)
        lower.append(avg - 2 * spread)
    out[name] = upper
    out[name + "_low"] = lower

out["cumulative"] = [sum(C[:i + 1]) for i in range(N)]
out["performance"] = [100 * (c - C[0]) / C[0] for c in C]

TP = [(h + l + c) / 3 for h, l, c in zip(H, L, C)]
cci = []
for i in range(3, N):
    w = TP[i - 3:i + 1]
    ma = sum(w) / 4
    md = sum(abs(ma - t) for t in w) / 3
    cci.append((TP[i] - ma) / (md * 0.015))
out["cci3"] = cci

clv, acc = [], 0
for i in range(N):
    v = ((C[i] - L[i]) - (H[i] - C[i])) / (H[i] - L[i]) * V[i]
    acc = v if i == 0 else acc + v
    clv.append(acc)
out["clv"] = clv
obv = [V[0]]
for i in range(1, N):
    obv.append(obv[-1] + V[i] if C[i] > O[i] else obv[-1] - V[i])
out["obv"] = obv
out["pvo"] = [100 * ((s - l) / s if s else l) for s, l in zip(ema(V, 3), ema(V, 5))]


def fit(m):
    """Exact least squares with m coefficients on X - min X, values - min value."""
    xs = [Fraction(x - min(X)) for x in X]
    ys = [Fraction(c - min(C)) for c in C]
    A = [[sum(x ** (j + k) for x in xs) for k in range(m)] for j in range(m)]
    B = [sum(y * x ** j for x, y in zip(xs, ys)) for j in range(m)]
    for c in range(m):
        p = next(r for r in range(c, m) if A[r][c] != 0)
        A[c], A[p], B[c], B[p] = A[p], A[c], B[p], B[c]
        for r in range(m):
            if r != c and A[r][c] != 0:
                f = A[r][c] / A[c][c]
                A[r] = [a - f * b for a, b in zip(A[r], A[c])]
                B[r] -= f * B[c]
    coef = [B[i] / A[i][i] for i in range(m)]
    return [float(sum(coef[k] * x ** k for k in range(m)) + min(C)) for x in xs]


for m in range(1, 6):
    out["fit%d" % m] = fit(m)

n = N
sx, sy = sum(X), sum(C)
sxy, sxx = sum(x * y for x, y in zip(X, C)), sum(x * x for x in X)
a = (n * sxy - sx * sy) / (n * sxx - sx * sx)
b = (sy * sxx - sx * sxy) / (n * sxx - sx * sx)
out["trend"] = [a * X[0] + b, a * X[-1] + b]
ly = [math.log(c) for c in C]
mx, my = sx / n, sum(ly) / n
bb = (sum(x * y for x, y in zip(X, ly)) - n * mx * my) / (sxx - n * mx * mx)
aa = math.exp(my - bb * mx)
out["exptrend"] = [aa * math.exp(bb * X[0]), aa * math.exp(bb * X[-1])]


def bspline(px, py, fragments):
    """Interpolating uniform cubic B-spline, solved with a dense matrix."""
    m = len(px)
    M = [[0.0] * m for _ in range(m)]
    M[0][0] = M[m - 1][m - 1] = 1.0
    for i in range(1, m - 1):
        M[i][i - 1], M[i][i], M[i][i + 1] = 1 / 6, 2 / 3, 1 / 6
    def solve(rhs):
        A = [row[:] + [r] for row, r in zip(M, rhs)]
        for c in range(m):
            p = max(range(c, m), key=lambda r: abs(A[r][c]))
            A[c], A[p] = A[p], A[c]
            for r in range(m):
                if r != c:
                    f = A[r][c] / A[c][c]
                    A[r] = [a - f * b for a, b in zip(A[r], A[c])]
        return [A[i][m] / A[i][i] for i in range(m)]
    vx = solve(px)
    vy = solve(py)
    vx = [2 * vx[0] - vx[1]] + vx + [2 * vx[-1] - vx[-2]]
    vy = [2 * vy[0] - vy[1]] + vy + [2 * vy[-1] - vy[-2]]
    res = []
    for i in range(fragments + 1):
        u = (m - 1) * i / fragments + 1
        x = y = 0.0
        for k in range(len(vx)):
            d = abs(k - u)
            if d < 2:
                w = 2 / 3 - d * d + d ** 3 / 2 if d < 1 else (2 - d) ** 3 / 6
                x += vx[k] * w
                y += vy[k] * w
        res.append((x, y))
    return res


sp = bspline([float(x) for x in X], [float(c) for c in C], 2 * N)
out["spline_x"] = [p[0] for p in sp]
out["spline_y"] = [p[1] for p in sp]

for key, vals in out.items():
    print(key, " ".join(repr(float(v)) for v in vals))
