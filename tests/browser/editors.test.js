// Check as you type and the dialog inside real editors and a framework-owned field, on a page of
// another site than the service: every correction (a suggestion from the menu, the dialog's
// Finish) reaches the editor's own data and the form post, and is one undo step.
'use strict';
const test = require('node:test');
const assert = require('node:assert/strict');
const { scenario, dialogSettled, startSite } = require('./harness');

if (!require('node:fs').existsSync(require('node:path').join(__dirname, 'node_modules', 'tinymce'))) {
    console.log('SKIP: the editors are not installed (scripts/install-deps.sh installs them from npm)');
    process.exit(77);
}

const TYPED = 'My frist post has a mistkae and anothr one';
const MISSPELT = ['frist', 'mistkae', 'anothr'];

// name, where the user types (a frame's body for TinyMCE's classic mode), the redo key, the
// form field the editor posts by itself (none for an inline or Quill editor).
const EDITORS = [
    ['plain', '#body', null, 'body'],
    ['react', '#body', null, 'state'],
    ['ckeditor5', '.ck-editor__editable', null, 'body'],
    ['tinymce', 'body', 'iframe.tox-edit-area__iframe', 'body'],
    ['tinymce-inline', '#inline', null, null],
    ['quill', '.ql-editor', null, null],
];

// The editor's data as text: tags and the entities of the words' characters left out.
const textOf = (page) => page.evaluate(() => {
    const d = document.createElement('div');
    d.innerHTML = window.editor.data();
    return d.textContent.replace(/\u00a0/g, ' ').trim();
});

async function chooseFromMenu(page, word, choice) {
    const at = await page.evaluate((w) => window.markCentre(w), word);
    assert.ok(at, `no mark on ${word}`);
    await page.mouse.click(at.x, at.y, { button: 'right' });
    await page.waitForSelector('.vb-menu .vb-suggestion');
    await page.click(`.vb-menu .vb-suggestion >> text="${choice}"`);
    await page.waitForSelector('.vb-menu', { state: 'detached' });
}

// One service for the whole table (starting it and its dictionaries is the slow part); each
// editor on a page of its own.
test('every editor: menu choice and dialog reach the editor\'s data, one undo step each', (t) =>
    scenario('editors', async ({ context, url }) => {
        const site = await startSite();
        try {
            for (const [name, selector, frameSelector, posted] of EDITORS) {
                await t.test(name, async () => {
                    const page = await context.newPage();
                    const errors = [];
                    page.on('pageerror', (e) => errors.push(e.message));
                    page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
                    try {
                        await runEditor(page, url, site, name, selector, frameSelector, posted);
                        assert.deepEqual(errors, []);
                    } finally {
                        await page.screenshot({ path: require('node:path').join(
                            process.env.VERBARIUM_SCREENSHOTS || '/tmp', `editors-${name}.png`) }).catch(() => {});
                        await page.close();
                    }
                });
            }
        } finally {
            await site.stop();
        }
    }));

async function runEditor(page, url, site, name, selector, frameSelector, posted) {
    await page.goto(`${site.url}/pages/editors.html?editor=${name}&service=` +
                    encodeURIComponent(url + '/cgi-bin/orthd.cgi'));
    await page.evaluate(() => window.ready);
    const area = (frameSelector ? page.frameLocator(frameSelector) : page).locator(selector);
    await area.click();
    await page.keyboard.type(TYPED);
    await page.evaluate(() => Verbarium.settled());
    assert.deepEqual(await page.evaluate(() => Verbarium.misspelt(window.editor.target)), MISSPELT);

    // A suggestion from the menu; one Ctrl+Z takes back that correction alone.
    await chooseFromMenu(page, 'frist', 'first');
    assert.equal(await textOf(page), TYPED.replace('frist', 'first'));
    await page.keyboard.press('Control+z');
    assert.equal(await textOf(page), TYPED);
    await page.evaluate(() => Verbarium.settled());
    await chooseFromMenu(page, 'frist', 'first');
    const afterMenu = TYPED.replace('frist', 'first');
    assert.equal(await textOf(page), afterMenu);

    // The dialog: Change for each word left, Finish.
    await page.evaluate(() => { Verbarium.openDialog(window.editor.target); });
    const frame = await (await page.waitForSelector('iframe.vb-frame')).contentFrame();
    await frame.waitForFunction(() => {
        const pane = document.getElementById('pane');
        return pane && pane.getAttribute('aria-busy') === 'false' && pane.childNodes.length > 0;
    }, null, { timeout: 90000 });
    let expected = afterMenu;
    for (const word of ['mistkae', 'anothr']) {
        await frame.waitForFunction((w) => document.getElementById('word').textContent === w &&
                                           document.getElementById('changeTo').value, word);
        expected = expected.replace(word, await frame.inputValue('#changeTo'));
        await frame.click('#change');
        await dialogSettled(frame);
    }
    await frame.click('#finish');
    await page.waitForSelector('iframe.vb-frame', { state: 'detached' });
    assert.equal(await textOf(page), expected);

    // The dialog's corrections are one step: Ctrl+Z gives back the text before it.
    await page.keyboard.press('Control+z');
    assert.equal(await textOf(page), afterMenu);
    await page.keyboard.press('Control+Shift+z');
    assert.equal(await textOf(page), expected);

    // As the submit button (an inline editor's toolbar may float over it).
    await Promise.all([page.waitForURL(/\/submit$/),
                       page.evaluate(() => document.getElementById('form').requestSubmit())]);
    const form = JSON.parse(await page.textContent('body'));
    const plain = (html) => html.replace(/<[^>]*>/g, '').replace(/&nbsp;/g, ' ').trim();
    assert.equal(plain(form.content), expected);
    if (posted) assert.equal(plain(form[posted]), expected);
    assert.doesNotMatch(JSON.stringify(form), /vb-|verbarium/);
}
