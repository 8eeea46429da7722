// Starts the check-as-you-type client on every text area of the page.
window.addEventListener('load', function () {
    if (window.kwirl) document.querySelectorAll('textarea').forEach(function (t) { kwirl.attach(t); });
});
