// Array push, then sort with a comparison function.
function compare(a, b) {
    return a - b;
}
function run(n) {
    var a = [];
    var seed = 1;
    for (var i = 0; i < n; i++) {
        seed = (seed * 16807) % 2147483647;
        a.push(seed % 100000);
    }
    a.sort(compare);
    var check = 0;
    for (var k = 0; k < n; k = k + 997) {
        check = (check * 31 + a[k]) % 1000003;
    }
    return a[0] + "," + a[n - 1] + "," + check;
}
print(run(150000));
